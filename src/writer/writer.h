#pragma once
// The settings writer: a switch byte or the language settings written between
// unlock and lock without reading a reply, the Write Settings flow that ends
// the program when the write may have cut the link, and the two test prints.

#include "link/context.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace softswitch {

// Waited before the code page name goes out, so a language write takes at least this long.
inline constexpr std::chrono::milliseconds kCodePageNamePause{1000};

inline constexpr int kLanguageTab = 5; // "Additional Soft_Switch"

class Writer {
public:
    // Binds Write Settings (cmd2), Self Test (cmd01) and Fonts Test (cmd02).
    explicit Writer(Context& ctx);
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Unlock, the whole byte of soft switch n from its OFF buttons, lock.
    void WriteSwitch1();
    void WriteSwitch2();
    void WriteSwitch3();
    void WriteSwitch4();
    // The digit field of switch n's value (selected OFF buttons are 1 bits).
    void EncodeSwitch1(std::span<std::uint8_t, 3> digits) const;
    void EncodeSwitch2(std::span<std::uint8_t, 3> digits) const;
    void EncodeSwitch3(std::span<std::uint8_t, 3> digits) const;
    void EncodeSwitch4(std::span<std::uint8_t, 3> digits) const;

    // Unlock, code page, code page name, character set, density, new 8x16
    // font, Thai passes on a "KR-5050" only, lock. Reads the boxes as they
    // are: callers check LanguageChoiceMissing() first.
    void WriteLanguage();
    // Argument bytes of each language command, from the text of its box.
    void EncodeCodePage(std::span<std::uint8_t, 3> bytes) const;
    // Also takes the pause the printer needs before the name.
    void EncodeCodePageName(std::span<std::uint8_t, 20> bytes);
    void EncodeInterChars(std::span<std::uint8_t, 2> bytes) const;
    void EncodeDensity(std::span<std::uint8_t, 1> bytes) const;
    void EncodeNew8x16(std::span<std::uint8_t, 2> bytes) const;
    void EncodeThai(std::span<std::uint8_t, 3> bytes) const;

    // The message asking for the first language box whose text is not one of
    // its list entries (the Thai box only where its command is sent); empty
    // when every box a language write reads from the list holds an entry.
    std::string LanguageChoiceMissing() const;

    // Writes what belongs to the tab, asks for a re-power and ends the
    // program where the link may no longer work. On the language tab with a
    // box not chosen it asks for it instead and sends nothing.
    void WriteSettings(int tab);

    void cmd2_Click();  // Write Settings
    void cmd01_Click(); // Self Test
    void cmd02_Click(); // Fonts Test

private:
    void writeSwitch(int sw);
    void encodeSwitch(int sw, std::span<std::uint8_t, 3> digits) const;
    bool baudRateChanged() const;
    // Sends a command of a settings write, unless one before it failed.
    void write(std::span<const std::uint8_t> command);
    void tellNotSent(const std::string& what);

    Context& m_ctx;
    std::string m_notSent; // the command of this write that did not go out
};

} // namespace softswitch
