#include "afxstr.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "backend.h"
#include "text_fold.h"

namespace {
bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

int CString::Compare(const char* o) const {
    return std::strcmp(s_.c_str(), o ? o : "");
}

int CString::CompareNoCase(const char* o) const {
    const char* other = o ? o : "";
    return fw::CompareFoldedText(s_.data(), s_.size(), other, std::strlen(other));
}

int CString::Find(char c, int start) const {
    if (start < 0 || start > GetLength())
        return -1;
    size_t p = s_.find(c, static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* sub, int start) const {
    if (start < 0 || start > GetLength())
        return -1;
    size_t p = s_.find(sub ? sub : "", static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

CString CString::Left(int n) const {
    return CString(s_.substr(0, static_cast<size_t>(std::max(0, n))));
}

CString CString::Right(int n) const {
    n = std::clamp(n, 0, GetLength());
    return CString(s_.substr(s_.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int n) const {
    first = std::clamp(first, 0, GetLength());
    n = std::clamp(n, 0, GetLength() - first);
    return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(n)));
}

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < s_.size() && IsBlank(static_cast<unsigned char>(s_[i]))) ++i;
    s_.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = s_.size();
    while (n > 0 && IsBlank(static_cast<unsigned char>(s_[n - 1]))) --n;
    s_.resize(n);
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::MakeUpper() {
    for (char& c : s_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : s_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

int CString::Replace(const char* from, const char* to) {
    std::string f = from ? from : "", t = to ? to : "";
    if (f.empty())
        return 0;
    int count = 0;
    for (size_t p = s_.find(f); p != std::string::npos; p = s_.find(f, p + t.size())) {
        s_.replace(p, f.size(), t);
        ++count;
    }
    return count;
}

void CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        s_.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    s_.assign(buf.data(), static_cast<size_t>(n));
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    std::string text;
    bool ok = fw::CurrentBackend().LoadString(id, &text);
    s_ = ok ? text : std::string();
    return ok ? TRUE : FALSE;
}

// ---- CStringList ----

struct CStringList::Node {
    CString value;
    Node* prev = nullptr;
    Node* next = nullptr;
};

namespace {
template <typename N>
N* AsNode(POSITION p) {
    return reinterpret_cast<N*>(p);
}
template <typename N>
POSITION AsPos(N* n) {
    return reinterpret_cast<POSITION>(n);
}
}  // namespace

CStringList::~CStringList() {
    RemoveAll();
}

POSITION CStringList::AddHead(const CString& s) {
    Node* n = new Node{s, nullptr, head_};
    if (head_)
        head_->prev = n;
    head_ = n;
    if (!tail_)
        tail_ = n;
    ++count_;
    return AsPos(n);
}

POSITION CStringList::AddTail(const CString& s) {
    Node* n = new Node{s, tail_, nullptr};
    if (tail_)
        tail_->next = n;
    tail_ = n;
    if (!head_)
        head_ = n;
    ++count_;
    return AsPos(n);
}

void CStringList::AddTail(const CStringList& other) {
    for (Node* n = other.head_; n; n = n->next) AddTail(n->value);
}

POSITION CStringList::GetHeadPosition() const {
    return AsPos(head_);
}
POSITION CStringList::GetTailPosition() const {
    return AsPos(tail_);
}

CString& CStringList::GetNext(POSITION& pos) {
    Node* n = AsNode<Node>(pos);
    if (!n)
        throw std::out_of_range("CStringList::GetNext past the end");
    pos = AsPos(n->next);
    return n->value;
}

const CString& CStringList::GetNext(POSITION& pos) const {
    return const_cast<CStringList*>(this)->GetNext(pos);
}

CString& CStringList::GetPrev(POSITION& pos) {
    Node* n = AsNode<Node>(pos);
    if (!n)
        throw std::out_of_range("CStringList::GetPrev past the start");
    pos = AsPos(n->prev);
    return n->value;
}

CString& CStringList::GetAt(POSITION pos) {
    Node* n = AsNode<Node>(pos);
    if (!n)
        throw std::out_of_range("CStringList::GetAt without a position");
    return n->value;
}

const CString& CStringList::GetAt(POSITION pos) const {
    return const_cast<CStringList*>(this)->GetAt(pos);
}

CString& CStringList::GetHead() {
    return GetAt(AsPos(head_));
}
CString& CStringList::GetTail() {
    return GetAt(AsPos(tail_));
}

void CStringList::SetAt(POSITION pos, const CString& s) {
    GetAt(pos) = s;
}

POSITION CStringList::InsertBefore(POSITION pos, const CString& s) {
    Node* at = AsNode<Node>(pos);
    if (!at)
        return AddHead(s);
    Node* n = new Node{s, at->prev, at};
    if (at->prev)
        at->prev->next = n;
    else
        head_ = n;
    at->prev = n;
    ++count_;
    return AsPos(n);
}

POSITION CStringList::InsertAfter(POSITION pos, const CString& s) {
    Node* at = AsNode<Node>(pos);
    if (!at)
        return AddTail(s);
    Node* n = new Node{s, at, at->next};
    if (at->next)
        at->next->prev = n;
    else
        tail_ = n;
    at->next = n;
    ++count_;
    return AsPos(n);
}

void CStringList::RemoveAt(POSITION pos) {
    Node* n = AsNode<Node>(pos);
    if (!n)
        return;
    (n->prev ? n->prev->next : head_) = n->next;
    (n->next ? n->next->prev : tail_) = n->prev;
    delete n;
    --count_;
}

CString CStringList::RemoveHead() {
    CString v = GetHead();
    RemoveAt(AsPos(head_));
    return v;
}

CString CStringList::RemoveTail() {
    CString v = GetTail();
    RemoveAt(AsPos(tail_));
    return v;
}

void CStringList::RemoveAll() {
    while (head_) {
        Node* n = head_->next;
        delete head_;
        head_ = n;
    }
    tail_ = nullptr;
    count_ = 0;
}

POSITION CStringList::Find(const char* value, POSITION startAfter) const {
    Node* n = startAfter ? AsNode<Node>(startAfter)->next : head_;
    for (; n; n = n->next)
        if (n->value == value)
            return AsPos(n);
    return nullptr;
}

POSITION CStringList::FindIndex(int index) const {
    if (index < 0)
        return nullptr;
    Node* n = head_;
    while (n && index-- > 0) n = n->next;
    return AsPos(n);
}
