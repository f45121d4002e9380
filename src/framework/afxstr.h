// Byte strings in the process's code page, under the names the dialog code
// uses. A CString is a value; a CStringList is an ordered list walked with
// positions, as the classic framework does it.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#include "win_types.h"

class CString {
  public:
    CString() = default;
    CString(const char* text) : s_(text ? text : "") {}  // NOLINT: implicit like the original
    CString(const char* text, int length) : s_(text ? std::string(text, static_cast<size_t>(length)) : "") {}
    CString(const std::string& text) : s_(text) {}  // NOLINT
    CString(char ch, int repeat = 1) : s_(static_cast<size_t>(repeat > 0 ? repeat : 0), ch) {}

    operator const char*() const { return s_.c_str(); }  // NOLINT
    const char* GetString() const { return s_.c_str(); }
    const std::string& str() const { return s_; }

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    char GetAt(int i) const { return s_.at(static_cast<size_t>(i)); }
    void SetAt(int i, char c) { s_.at(static_cast<size_t>(i)) = c; }

    CString& operator=(const char* text) {
        s_ = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& o) {
        s_ += o.s_;
        return *this;
    }
    CString& operator+=(const char* o) {
        s_ += o ? o : "";
        return *this;
    }
    CString& operator+=(char c) {
        s_ += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return a.s_ != b.s_; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

    int Compare(const char* o) const;
    int CompareNoCase(const char* o) const;
    int Find(char c, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeUpper();
    CString& MakeLower();
    int Replace(const char* from, const char* to);
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FormatV(const char* format, va_list args);
    // Loads string `id` of the library's table; an unknown id gives "" and false.
    BOOL LoadString(UINT id);

  private:
    std::string s_;
};

struct __POSITION;
typedef __POSITION* POSITION;

class CStringList {
  public:
    CStringList() = default;
    ~CStringList();
    CStringList(const CStringList&) = delete;
    CStringList& operator=(const CStringList&) = delete;

    int GetCount() const { return count_; }
    int GetSize() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    POSITION AddHead(const CString& s);
    POSITION AddTail(const CString& s);
    void AddTail(const CStringList& other);
    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    CString& GetNext(POSITION& pos);
    const CString& GetNext(POSITION& pos) const;
    CString& GetPrev(POSITION& pos);
    CString& GetAt(POSITION pos);
    const CString& GetAt(POSITION pos) const;
    CString& GetHead();
    CString& GetTail();
    void SetAt(POSITION pos, const CString& s);
    POSITION InsertBefore(POSITION pos, const CString& s);
    POSITION InsertAfter(POSITION pos, const CString& s);
    void RemoveAt(POSITION pos);
    CString RemoveHead();
    CString RemoveTail();
    void RemoveAll();
    POSITION Find(const char* value, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int index) const;

  private:
    struct Node;
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int count_ = 0;
};
