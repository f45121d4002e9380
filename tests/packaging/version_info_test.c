/* version_info_test VERSION FILE... : each FILE, found beside this program, carries
 * the version resource of VERSION (MAJOR.MINOR.PATCH) as Windows reads it with
 * GetFileVersionInfo: the fixed numbers, the type (DLL or program), and the texts
 * FileVersion, ProductVersion, OriginalFilename (the file's own name) and
 * LegalCopyright, which must name the MIT License the packages ship. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static int failures = 0;

static void fail(const char* file, const char* what) {
    printf("%s: %s\n", file, what);
    ++failures;
}

static const char* string_value(const char* file, void* data, unsigned language, unsigned codepage,
                                const char* name) {
    char key[96];
    char* value = NULL;
    UINT length = 0;
    snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", language, codepage, name);
    if (!VerQueryValueA(data, key, (void**)&value, &length) || value == NULL || length == 0) {
        printf("%s: no %s\n", file, name);
        ++failures;
        return "";
    }
    return value;
}

static void check_file(const char* folder, const char* name, const char* version, DWORD ms, DWORD ls) {
    char path[MAX_PATH * 2];
    DWORD ignored = 0, size;
    void* data;
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    struct {
        WORD language, codepage;
    }* translation = NULL;
    const char* dot = strrchr(name, '.');
    int is_dll = dot != NULL && _stricmp(dot, ".dll") == 0;

    snprintf(path, sizeof path, "%s%s", folder, name);
    size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        fail(name, "no version resource");
        return;
    }
    data = HeapAlloc(GetProcessHeap(), 0, size);
    if (data == NULL || !GetFileVersionInfoA(path, 0, size, data)) {
        fail(name, "GetFileVersionInfoA failed");
        return;
    }
    if (!VerQueryValueA(data, "\\", (void**)&fixed, &length) || length < sizeof *fixed ||
        fixed->dwSignature != 0xFEEF04BDu) {
        fail(name, "no fixed file information");
    } else {
        if (fixed->dwFileVersionMS != ms || fixed->dwFileVersionLS != ls) {
            printf("%s: file version %lu.%lu.%lu.%lu\n", name, (unsigned long)HIWORD(fixed->dwFileVersionMS),
                   (unsigned long)LOWORD(fixed->dwFileVersionMS),
                   (unsigned long)HIWORD(fixed->dwFileVersionLS),
                   (unsigned long)LOWORD(fixed->dwFileVersionLS));
            ++failures;
        }
        if (fixed->dwProductVersionMS != ms || fixed->dwProductVersionLS != ls) {
            fail(name, "product version differs");
        }
        if (fixed->dwFileType != (is_dll ? VFT_DLL : VFT_APP)) {
            fail(name, is_dll ? "file type is not DLL" : "file type is not application");
        }
    }
    if (!VerQueryValueA(data, "\\VarFileInfo\\Translation", (void**)&translation, &length) ||
        length < sizeof *translation) {
        fail(name, "no translation");
    } else {
        const char* file_version =
            string_value(name, data, translation->language, translation->codepage, "FileVersion");
        const char* product_version =
            string_value(name, data, translation->language, translation->codepage, "ProductVersion");
        const char* original =
            string_value(name, data, translation->language, translation->codepage, "OriginalFilename");
        const char* copyright =
            string_value(name, data, translation->language, translation->codepage, "LegalCopyright");
        if (strcmp(file_version, version) != 0) {
            printf("%s: FileVersion \"%s\"\n", name, file_version);
            ++failures;
        }
        if (strcmp(product_version, version) != 0) {
            printf("%s: ProductVersion \"%s\"\n", name, product_version);
            ++failures;
        }
        /* A resource copied from another binary names that one. */
        if (_stricmp(original, name) != 0) {
            printf("%s: OriginalFilename \"%s\"\n", name, original);
            ++failures;
        }
        if (strstr(copyright, "MIT License") == NULL) {
            printf("%s: LegalCopyright \"%s\" names no MIT License\n", name, copyright);
            ++failures;
        }
    }
    HeapFree(GetProcessHeap(), 0, data);
    printf("%s: checked\n", name);
}

int main(int argc, char** argv) {
    unsigned major, minor, patch;
    char folder[MAX_PATH * 2];
    char* slash;
    int i;
    char extra;

    if (argc < 3 || sscanf(argv[1], "%u.%u.%u%c", &major, &minor, &patch, &extra) != 3) {
        printf("usage: version_info_test MAJOR.MINOR.PATCH FILE...\n");
        return 2;
    }
    if (GetModuleFileNameA(NULL, folder, MAX_PATH) == 0) {
        return 2;
    }
    slash = strrchr(folder, '\\');
    if (slash != NULL) {
        slash[1] = '\0';
    }
    for (i = 2; i < argc; ++i) {
        check_file(folder, argv[i], argv[1], MAKELONG(minor, major), MAKELONG(0, patch));
    }
    if (failures == 0) {
        printf("version resources ok\n");
    }
    return failures == 0 ? 0 : 1;
}
