#pragma once

#include <cstdint>

#include "driver/calling_convention.h"

// Brevanost's data-exchange library, Tembrix3.dll, imported by ordinal (see
// tembrix3_ordinals.def). Every function takes its arguments on the stack, removes them
// itself and answers a signed 32-bit status, 0 for success.
//
// name: a NUL-terminated tag name. base: the name part of an array reference.
// count: element count; first, last: element indexes (the driver passes 1, idx, idx).
// 16- and 8-bit values travel by value in their 32-bit stack slot.

// Statuses the driver acts on.
constexpr int32_t kStatusWordOnByteTag = -2000;    // a Word function met a byte tag: retry as Byte
constexpr int32_t kStatusTagDeactivated = -2005;   // the tag went inactive: re-activate it
constexpr int32_t kStatusTagRemoved = -2007;       // the tag went away: re-activate it
constexpr int32_t kStatusNoDataDirectory = -2009;  // ActivateTag without the library's directory

extern "C" {

int32_t QOR_WINAPI ActivateTag(const char* name);                                       // 4
int32_t QOR_WINAPI DeactivateTag(const char* name);                                     // 5
int32_t QOR_WINAPI ScanActiveTags();                                                    // 6
int32_t QOR_WINAPI ReadTagFlags(const char* name, int32_t first, uint8_t* flags, int32_t count);  // 7
int32_t QOR_WINAPI WriteTagFlags(const char* name, int32_t first, uint8_t* flags, int32_t count); // 8

int32_t QOR_WINAPI ReadTagLong(const char* name, int32_t* value);      // 11
int32_t QOR_WINAPI ReadTagShort(const char* name, int16_t* value);     // 12
int32_t QOR_WINAPI ReadTagDouble(const char* name, double* value);     // 13
int32_t QOR_WINAPI WriteTagLong(const char* name, int32_t value);      // 15
int32_t QOR_WINAPI WriteTagShort(const char* name, int16_t value);     // 16
int32_t QOR_WINAPI WriteTagDouble(const char* name, double value);     // 17

int32_t QOR_WINAPI ReadTagByte(const char* name, uint8_t* value);      // 24
int32_t QOR_WINAPI ReadTagWord(const char* name, uint16_t* value);     // 25
int32_t QOR_WINAPI ReadTagDword(const char* name, uint32_t* value);    // 26
int32_t QOR_WINAPI WriteTagByte(const char* name, uint8_t value);      // 33
int32_t QOR_WINAPI WriteTagWord(const char* name, uint16_t value);     // 34
int32_t QOR_WINAPI WriteTagDword(const char* name, uint32_t value);    // 35

// text: a buffer of capacity bytes; length receives the text's full length.
int32_t QOR_WINAPI ReadTagText(const char* name, char* text, int32_t capacity, int32_t* length);  // 30
// length: the text's length without the NUL; no more than length bytes are read.
int32_t QOR_WINAPI WriteTagText(const char* name, const char* text, int32_t length);             // 40

int32_t QOR_WINAPI ReadArrayDouble(const char* base, double* values, int32_t count, int32_t first, int32_t last);    // 21
int32_t QOR_WINAPI ReadArrayLong(const char* base, int32_t* values, int32_t count, int32_t first, int32_t last);     // 22
int32_t QOR_WINAPI ReadArrayShort(const char* base, int16_t* values, int32_t count, int32_t first, int32_t last);    // 23
int32_t QOR_WINAPI ReadArrayByte(const char* base, uint8_t* values, int32_t count, int32_t first, int32_t last);     // 27
int32_t QOR_WINAPI ReadArrayWord(const char* base, uint16_t* values, int32_t count, int32_t first, int32_t last);    // 28
int32_t QOR_WINAPI ReadArrayDword(const char* base, uint32_t* values, int32_t count, int32_t first, int32_t last);   // 29

int32_t QOR_WINAPI WriteArrayLong(const char* base, int32_t* values, int32_t count, int32_t first, int32_t last);    // 31
int32_t QOR_WINAPI WriteArrayShort(const char* base, int16_t* values, int32_t count, int32_t first, int32_t last);   // 32
int32_t QOR_WINAPI WriteArrayByte(const char* base, uint8_t* values, int32_t count, int32_t first, int32_t last);    // 36
int32_t QOR_WINAPI WriteArrayWord(const char* base, uint16_t* values, int32_t count, int32_t first, int32_t last);   // 37
int32_t QOR_WINAPI WriteArrayDword(const char* base, uint32_t* values, int32_t count, int32_t first, int32_t last);  // 38
int32_t QOR_WINAPI WriteArrayDouble(const char* base, double* values, int32_t count, int32_t first, int32_t last);   // 39

}
