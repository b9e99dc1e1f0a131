/* A version.dll planted beside the program, as a download might leave one in
   the Downloads folder. Asked about any file but the program itself, it
   leaves an empty mark file beside it (its own path + ".mark"); it answers
   every question with nothing. Under Wine the file is loaded in any case:
   Wine's own user32.dll imports version.dll and asks it about the program
   file. What must not happen is that the program itself uses it. */
#include <windef.h>
#include <winbase.h>

static HINSTANCE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reason;
    (void)reserved;
    self = instance;
    return TRUE;
}

static void LeaveMarkUnlessAskedAboutTheProgram(LPCWSTR asked) {
    wchar_t program[MAX_PATH] = {0}, mark[MAX_PATH + 8] = {0};
    GetModuleFileNameW(NULL, program, MAX_PATH);
    if (asked != NULL && lstrcmpiW(asked, program) == 0) return;
    GetModuleFileNameW(self, mark, MAX_PATH);
    lstrcatW(mark, L".mark");
    HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle) {
    (void)handle;
    LeaveMarkUnlessAskedAboutTheProgram(path);
    return 0;
}

BOOL WINAPI GetFileVersionInfoW(LPCWSTR path, DWORD handle, DWORD size, LPVOID data) {
    (void)handle;
    (void)size;
    (void)data;
    LeaveMarkUnlessAskedAboutTheProgram(path);
    return FALSE;
}

BOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* value, PUINT length) {
    (void)block;
    (void)subBlock;
    (void)value;
    (void)length;
    return FALSE;
}
