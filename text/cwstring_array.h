// CWStringArray: a counted array of CWString, rebuilt at exact size on every
// change of size; split cuts a text at dots, join puts it back with dots.
#pragma once

#include "text/cwstring.h"

class CWStringArray {
public:
    CWStringArray();
    CWStringArray(const CWStringArray& other);
    // Deep copy; assigning an array to itself leaves it unchanged.
    CWStringArray& operator=(const CWStringArray& other);
    ~CWStringArray();

    // Always a new block of exactly count elements; the kept elements move
    // their buffers over, new ones are empty.
    void setSize(uint32_t count);
    // One element more, holding a deep copy of item (which may be an element
    // of this array).
    void append(const CWString& item);
    static CWStringArray split(const CWString& text);
    CWString join() const;

    uint32_t itemCount;
    CWString* items;

private:
    static CWString* newBlock(uint64_t count);
    static void releaseBlock(CWString* block, uint32_t count) noexcept;
};
