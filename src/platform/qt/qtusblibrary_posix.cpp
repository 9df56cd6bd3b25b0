#include "platform/qt/qtusblibrary.h"

#include <algorithm>
#include <vector>

#include <dlfcn.h>

namespace softswitch {

namespace {

constexpr std::int32_t kWriteMode = 0;

// Text handed to the library the way a caller converting to 8-bit text does:
// the bytes, a terminating NUL, and room for at least minimum bytes. Behind
// that lies spare room filled with a guard pattern: a library that writes
// past what it was given lands there instead of in other memory, and the
// changed guard tells that it broke the contract.
class CText {
public:
    explicit CText(const std::string& text, std::size_t minimum = 0)
        : m_length(std::max(text.size(), minimum) + 1), m_bytes(m_length + QtUsbLibrary::kSpareBytes, kGuard)
    {
        std::fill_n(m_bytes.begin(), m_length, '\0');
        std::copy(text.begin(), text.end(), m_bytes.begin());
    }
    char* data() { return m_bytes.data(); }
    bool guardIntact() const
    {
        return std::all_of(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_length), m_bytes.end(),
                           [](char c) { return c == kGuard; });
    }
    // The text as the library left it, as long as it was handed over.
    void copyTo(std::string& text) const { std::copy_n(m_bytes.begin(), text.size(), text.begin()); }

private:
    static constexpr char kGuard = '\xA5';
    std::size_t m_length;
    std::vector<char> m_bytes;
};

} // namespace

QtUsbLibrary::QtUsbLibrary(std::string path) : m_path(std::move(path)) {}

QtUsbLibrary::~QtUsbLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

QtUsbLibrary::SendxFunction QtUsbLibrary::entryPoint()
{
    if (m_sendx)
        return m_sendx;
    // Not cached on failure: the technician may copy the library in and try again.
    if (!m_handle) {
        m_handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle) {
            const char* why = dlerror();
            m_loadError = why ? why : m_path + ": cannot be loaded";
            return nullptr;
        }
    }
    dlerror();
    m_sendx = reinterpret_cast<SendxFunction>(dlsym(m_handle, "sendx"));
    if (!m_sendx) {
        const char* why = dlerror();
        m_loadError = why ? why : m_path + ": no sendx";
        return nullptr;
    }
    m_loadError.clear();
    return m_sendx;
}

std::int32_t QtUsbLibrary::sendx(std::string& data, const std::string& port, std::int32_t baud,
                                 std::int32_t arg4, std::int32_t length, std::int32_t mode,
                                 std::int32_t bufferLength, std::string& buffer)
{
    const SendxFunction call = entryPoint();
    if (!call)
        return kNotLoaded;
    // On a write the library sees the command bytes and one NUL after them,
    // which is what the length argument (count + 1) covers.
    CText dataBytes(data);
    CText portBytes(port);
    CText bufferBytes(buffer, static_cast<std::size_t>(std::max(bufferLength, 0)));
    const std::int32_t result =
        call(dataBytes.data(), portBytes.data(), baud, arg4, length, mode, bufferLength, bufferBytes.data());
    if (!dataBytes.guardIntact() || !portBytes.guardIntact() || !bufferBytes.guardIntact())
        return kOverrun; // nothing it wrote can be trusted: a failed read
    if (mode != kWriteMode) {
        // The read calls see what the library wrote into the probe and the buffer.
        dataBytes.copyTo(data);
        bufferBytes.copyTo(buffer);
    }
    return result;
}

} // namespace softswitch
