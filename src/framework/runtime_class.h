// Runtime type information by class name, and dynamic creation where a class
// asks for it.
#pragma once

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const;
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

class CObject {
  public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)               \
  public:                                   \
    static const CRuntimeClass class##name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name) \
    DECLARE_DYNAMIC(name)       \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS_(name, base, create)                                         \
    const CRuntimeClass name::class##name = {#name, static_cast<int>(sizeof(name)), create, \
                                             RUNTIME_CLASS(base)};                          \
    const CRuntimeClass* name::GetRuntimeClass() const {                                    \
        return RUNTIME_CLASS(name);                                                         \
    }

#define IMPLEMENT_DYNAMIC(name, base) IMPLEMENT_RUNTIMECLASS_(name, base, nullptr)

#define IMPLEMENT_DYNCREATE(name, base) \
    CObject* name::CreateObject() {     \
        return new name;                \
    }                                   \
    IMPLEMENT_RUNTIMECLASS_(name, base, &name::CreateObject)
