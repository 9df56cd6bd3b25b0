#pragma once

#include "testsupport.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

using SendxFunction = int32_t (*)(char*, const char*, int32_t, int32_t, int32_t, int32_t, int32_t, char*);

// A libKR5050 build copied into a fresh folder as ./libKR5050.so and loaded
// with dlopen, as the utility does. Each copy is a new load with fresh state.
class TransportLibrary {
public:
    explicit TransportLibrary(const std::string& builtPath)
    {
        if (m_pages == MAP_FAILED || mprotect(m_pages + m_pageSize, m_pageSize, PROT_NONE) != 0)
            throw std::runtime_error("cannot map guarded pages");
        const std::string copy = m_dir.file("libKR5050.so");
        std::filesystem::copy_file(builtPath, copy);
        m_handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            throw std::runtime_error(std::string("dlopen: ") + dlerror());
        m_sendx = reinterpret_cast<SendxFunction>(dlsym(m_handle, "sendx"));
        if (!m_sendx)
            throw std::runtime_error("no sendx in " + builtPath);
    }
    ~TransportLibrary()
    {
        dlclose(m_handle);
        munmap(m_pages, 2 * m_pageSize);
    }
    TransportLibrary(const TransportLibrary&) = delete;
    TransportLibrary& operator=(const TransportLibrary&) = delete;

    // The write call: data at the command bytes, length = byte count + 1.
    // The command is placed so that its last byte is the last readable byte
    // before an inaccessible page: reading past it crashes the test.
    int32_t write(const std::string& command)
    {
        char* data = m_pages + m_pageSize - command.size();
        std::memcpy(data, command.data(), command.size());
        char empty[1] = {0};
        return m_sendx(data, "usb", 9600, 0, static_cast<int32_t>(command.size() + 1), 0, 0, empty);
    }

    struct Read {
        int32_t result = -1;
        std::string buffer;  // all 32 bytes
    };

    // The read call with its probe character (NUL first, blank second).
    Read read(char probe)
    {
        char data[1] = {probe};
        Read outcome;
        outcome.buffer.assign(32, '\0');
        outcome.result = m_sendx(data, "usb", 9600, 0, 1, 5, 32, outcome.buffer.data());
        return outcome;
    }

    // One query as the utility makes it: the write, then the NUL-probe read
    // and the blank-probe read.
    struct Exchange {
        int32_t written = -1;
        Read first, second;
    };
    Exchange exchange(const std::string& command)
    {
        const int32_t written = write(command);
        Read first = read('\0');
        return {written, first, read(' ')};
    }

    SendxFunction sendx() const { return m_sendx; }

private:
    TempDir m_dir;
    std::size_t m_pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    // Two pages, the second inaccessible: write() places commands at the end of the first.
    char* m_pages = static_cast<char*>(
        mmap(nullptr, 2 * m_pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    void* m_handle = nullptr;
    SendxFunction m_sendx = nullptr;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) { setenv(name, value.c_str(), 1); }
    ~ScopedEnv() { unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
};

// A whole read buffer: the bytes, then NULs up to 32.
inline std::string padded(const std::string& bytes) { return bytes + std::string(32 - bytes.size(), '\0'); }
