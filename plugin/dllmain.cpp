// dllmain.cpp - the plug-in's entry point: no work, reports success.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
