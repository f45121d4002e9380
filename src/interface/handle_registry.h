// The drill-through objects ZevDTInit made and ZevDTExit has not destroyed.
// A host value that is not one of them is answered as a null handle is, so a
// stale or foreign pointer is never used as an object.
#pragma once

class CDrillThrough;

namespace zevdt {

void RegisterHandle(CDrillThrough* object);
// Removes the object and answers it; null when the handle was not live.
CDrillThrough* UnregisterHandle(void* handle);
// The live object behind a handle, or null.
CDrillThrough* LookUpHandle(void* handle);

}  // namespace zevdt
