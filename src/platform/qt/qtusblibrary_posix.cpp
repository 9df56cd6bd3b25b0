#include "platform/qt/qtusblibrary.h"

#include <algorithm>
#include <vector>

#include <dlfcn.h>

namespace softswitch {

namespace {

constexpr std::int32_t kWriteMode = 0;

// Text handed to the library the way a caller converting to 8-bit text does:
// the bytes, a terminating NUL, and room for at least minimum bytes.
std::vector<char> cText(const std::string& text, std::size_t minimum = 0)
{
    std::vector<char> bytes(std::max(text.size(), minimum) + 1, '\0');
    std::copy(text.begin(), text.end(), bytes.begin());
    return bytes;
}

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
    std::vector<char> dataBytes = cText(data);
    const std::vector<char> portBytes = cText(port);
    std::vector<char> bufferBytes = cText(buffer, static_cast<std::size_t>(std::max(bufferLength, 0)));
    const std::int32_t result =
        call(dataBytes.data(), portBytes.data(), baud, arg4, length, mode, bufferLength, bufferBytes.data());
    if (mode != kWriteMode) {
        // The read calls see what the library wrote into the probe and the buffer.
        std::copy_n(dataBytes.begin(), data.size(), data.begin());
        std::copy_n(bufferBytes.begin(), buffer.size(), buffer.begin());
    }
    return result;
}

} // namespace softswitch
