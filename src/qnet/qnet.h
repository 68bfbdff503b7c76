#pragma once

// The log-in text library. The program loads it at run time from its own folder and sends the
// text it makes as the whole log-in datagram of a UDP link; a site may drop in another library
// exporting the same function.
//
// The text of this implementation: "LOGIN:" followed by 16 upper-case hexadecimal digits, the
// 64-bit FNV-1a hash of the bytes "Quelnor:" followed by the password's bytes (the password as
// given, without its terminating NUL). For example the password "secret" gives a 22-character
// text; the password itself never travels.
//
// `out` receives the NUL-terminated text; `size` is the room in `out` (the program passes 100).
// Returns 0 on success, 1 when the arguments are unusable (null pointers, or no room for the
// 22 characters and the NUL); `out` then holds an empty text when it has any room at all.

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define QNET_EXPORT __declspec(dllexport)
#else
#define QNET_EXPORT __attribute__((visibility("default")))
#endif

QNET_EXPORT unsigned short qnet_encryptpsw(char *out, int size, const char *password);

#ifdef __cplusplus
}
#endif
