// CWString: the installer's own wide-text value. An owned heap buffer of
// UTF-16 code units plus a 32-bit length, always terminated; copies are deep
// and every change allocates an exactly sized new buffer.
#pragma once

#include <cstdint>

class CWStringArray;

class CWString {
public:
    CWString();
    // Measures up to the first 0 unit; a null pointer gives the empty text.
    CWString(const char16_t* text);  // NOLINT: literals convert implicitly, as the callers write them
    explicit CWString(uint32_t size);  // zero-filled writable buffer of size units; length stays size
    CWString(const CWString& other);
    // Steals the buffer; the source is left empty with a buffer of its own
    // (an allocation failure there ends the process, as any other would).
    CWString(CWString&& other) noexcept;
    CWString& operator=(const CWString& other);
    // Exchanges the buffers: the source keeps the destination's old text.
    CWString& operator=(CWString&& other) noexcept;
    ~CWString();

    // Exactly count units from position start. A range reaching past length
    // is cut at length rather than read beyond the buffer.
    CWString mid(uint32_t start, uint32_t count) const;
    void append(const char16_t* text);  // a null pointer appends nothing (still a new buffer)
    void append(const CWString& other);
    bool isEmpty() const { return length == 0; }

    friend CWString operator+(const CWString& left, const CWString& right);
    friend CWString operator+(const CWString& left, const char16_t* right);

    // The program-wide empty value. Constructed before, and released after,
    // every other static object of the program.
    static const CWString Empty;
    // True from the construction of Empty until its destruction; readable at
    // any time, for checks of start-up and shut-down order.
    static bool emptyIsLive();

    char16_t* data;
    uint32_t length;

private:
    friend class CWStringArray;
    struct Adopt {};
    struct ProgramEmpty {};
    // Takes ownership of a buffer of length + 1 units, terminator in place.
    CWString(char16_t* buffer, uint32_t size, Adopt) noexcept : data(buffer), length(size) {}
    explicit CWString(ProgramEmpty);
};

// Path operations; the separator is the backslash only.
void directoryOf(const CWString& path, CWString& directory);
void splitPath(const CWString& path, CWString& directory, CWString& fileName);
