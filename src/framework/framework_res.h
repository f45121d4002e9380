/* The framework's own messages: the texts shown when the shell cannot open a help file.  They
   live in the framework's resources, not in the library's string table, as a platform's own
   messages would.  Each id is the one the help operation shows for its shell result. */
#ifndef ZEVDT_FRAMEWORK_FRAMEWORK_RES_H
#define ZEVDT_FRAMEWORK_FRAMEWORK_RES_H

#define IDS_FW_SHELL_OUT_OF_RESOURCES 1538   /* result 0  */
#define IDS_FW_SHELL_FILE_NOT_FOUND 15511    /* result 2  */
#define IDS_FW_SHELL_PATH_NOT_FOUND 15521    /* result 3  */
#define IDS_FW_SHELL_BAD_FORMAT 15531        /* result 11 */
#define IDS_FW_SHELL_ACCESS_DENIED 15541     /* result 5  */
#define IDS_FW_SHELL_ASSOC_INCOMPLETE 15551  /* result 27 */
#define IDS_FW_SHELL_DDE_BUSY 15561          /* result 30 */
#define IDS_FW_SHELL_DDE_FAIL 15571          /* result 29 */
#define IDS_FW_SHELL_DDE_TIMEOUT 15581       /* result 28 */
#define IDS_FW_SHELL_DLL_NOT_FOUND 15591     /* result 32 */
#define IDS_FW_SHELL_NO_ASSOCIATION 15601    /* result 31 */
#define IDS_FW_SHELL_OUT_OF_MEMORY 15611     /* result 8  */
#define IDS_FW_SHELL_SHARING_VIOLATION 15621 /* result 26 */

#endif
