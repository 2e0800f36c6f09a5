#pragma once
#include "core/String.h"

// The name of a type as a person reads it ("String", "int", "Array<String>"), for the
// containers' fatal messages. The stub has no run-time type information, so the name is
// taken from the compiler's own spelling of a template's signature, which GCC writes as
// "... [with T = Array<String>]" and clang as "... [T = Array<String>]". Only the fatal
// path asks for it, so it is cut out of that text when needed.

String TypeNameFromSignature(const char* signature);

// The signature that names T; a plain pointer, so that code which may need the name
// only hands this on.
template <typename T>
const char* TypeSignature()
{
    return __PRETTY_FUNCTION__;
}

template <typename T>
String TypeNameOf()
{
    return TypeNameFromSignature(TypeSignature<T>());
}
