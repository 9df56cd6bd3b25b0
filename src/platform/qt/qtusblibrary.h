#pragma once
// The printer maker's USB transport library, loaded from the working folder
// on first use and called through its one entry point sendx.
//
// A sendx that blocks blocks the window for as long: returning in bounded
// time is the library's contract (ours over usblp gives up after 2 s). A
// watchdog thread could not end the call either: the library would go on
// writing into buffers the caller gave up, and the next call would run beside
// the stuck one, which no transport library promises to allow.

#include "platform/platform.h"

#include <string>

namespace softswitch {

class QtUsbLibrary : public UsbLibrary {
public:
    // The result sendx answers with when the library or its entry point is missing.
    static constexpr std::int32_t kNotLoaded = -1;
    // The result of a call in which the library wrote past the text it was given.
    static constexpr std::int32_t kOverrun = -2;
    // Room behind each text argument for a library that writes too far.
    static constexpr std::size_t kSpareBytes = 4096;

    // path is handed to dlopen as it stands: "./libKR5050.so" means the
    // working folder at the time of the first call.
    explicit QtUsbLibrary(std::string path = "./libKR5050.so");
    ~QtUsbLibrary() override;
    QtUsbLibrary(const QtUsbLibrary&) = delete;
    QtUsbLibrary& operator=(const QtUsbLibrary&) = delete;

    std::int32_t sendx(std::string& data, const std::string& port, std::int32_t baud, std::int32_t arg4,
                       std::int32_t length, std::int32_t mode, std::int32_t bufferLength,
                       std::string& buffer) override;

    // Why the last call could not reach the library; empty once it did.
    const std::string& loadError() const { return m_loadError; }

private:
    using SendxFunction = std::int32_t (*)(char*, const char*, std::int32_t, std::int32_t, std::int32_t,
                                           std::int32_t, std::int32_t, char*);
    SendxFunction entryPoint();

    std::string m_path;
    void* m_handle = nullptr;
    SendxFunction m_sendx = nullptr;
    std::string m_loadError;
};

} // namespace softswitch
