// CWString: the installer's own wide-text value. An owned heap buffer of
// UTF-16 code units plus a 32-bit length, always terminated; copies are deep
// and every change allocates an exactly sized new buffer.
#pragma once

#include <cstdint>

class CWString {
public:
    CWString();
    CWString(const char16_t* text);  // NOLINT: literals convert implicitly, as the callers write them
    explicit CWString(uint32_t size);  // zero-filled writable buffer of size units; length stays size
    CWString(const CWString& other);
    CWString(CWString&& other) noexcept;  // steals the buffer; the source is left empty with a buffer of its own
    CWString& operator=(const CWString& other);
    CWString& operator=(CWString&& other) noexcept;
    ~CWString();

    CWString mid(uint32_t start, uint32_t count) const;
    void append(const char16_t* text);
    void append(const CWString& other);
    bool isEmpty() const { return length == 0; }

    friend CWString operator+(const CWString& left, const CWString& right);
    friend CWString operator+(const CWString& left, const char16_t* right);

    // The program-wide empty value. Constructed before, and released after,
    // every other static object of the program.
    static const CWString Empty;

    char16_t* data;
    uint32_t length;
};

// Path operations; the separator is the backslash only.
void directoryOf(const CWString& path, CWString& directory);
void splitPath(const CWString& path, CWString& directory, CWString& fileName);
