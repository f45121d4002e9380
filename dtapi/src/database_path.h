// Where the library finds its database: ZEVDTAPI_DATABASE when it is set and not
// empty, otherwise zevdtapi.db in the folder that holds the library itself.
#ifndef ZEVDTAPI_DATABASE_PATH_H
#define ZEVDTAPI_DATABASE_PATH_H

#include <string>

namespace zevdtapi {

std::string DatabasePath();

}  // namespace zevdtapi

#endif
