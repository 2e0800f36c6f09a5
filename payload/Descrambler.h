#pragma once
#include <cstdint>

class String;

// The settings block is stored XORed with a 32-bit key: every whole 4-byte group, as a
// little-endian word, is XORed with the key, and the 1 to 3 bytes left over at the end
// with the key's lowest, second and third byte in turn. The operation is its own inverse,
// so the builder scrambles with the same routine. A null buffer or a length below 1
// changes nothing.
void Descramble(void* buffer, int32_t length, uint32_t key);
void Descramble(String& bytes, uint32_t key);
