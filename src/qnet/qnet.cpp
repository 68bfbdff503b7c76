#include "qnet.h"

#include <cstdint>

unsigned short qnet_encryptpsw(char *out, int size, const char *password)
{
    constexpr int TextLength = 22;
    if (out && size > 0)
        out[0] = '\0';
    if (!out || !password || size < TextLength + 1)
        return 1;

    std::uint64_t hash = 0xcbf29ce484222325ull;
    const auto mix = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    };
    for (const char *p = "Quelnor:"; *p; ++p)
        mix(static_cast<unsigned char>(*p));
    for (const char *p = password; *p; ++p)
        mix(static_cast<unsigned char>(*p));

    const char prefix[] = "LOGIN:";
    int pos = 0;
    for (const char *p = prefix; *p; ++p)
        out[pos++] = *p;
    static const char digits[] = "0123456789ABCDEF";
    for (int shift = 60; shift >= 0; shift -= 4)
        out[pos++] = digits[(hash >> shift) & 0xf];
    out[pos] = '\0';
    return 0;
}
