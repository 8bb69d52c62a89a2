// CWStringArray: a counted array of CWString, rebuilt at exact size on every
// change of size; split cuts a text at dots, join puts it back with dots.
#pragma once

#include "text/cwstring.h"

class CWStringArray {
public:
    CWStringArray();
    CWStringArray(const CWStringArray& other);
    CWStringArray& operator=(const CWStringArray& other);
    ~CWStringArray();

    void setSize(uint32_t count);
    void append(const CWString& item);
    static CWStringArray split(const CWString& text);
    CWString join() const;

    uint32_t itemCount;
    CWString* items;
};
