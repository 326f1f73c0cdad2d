// trig.h — sine and cosine of a float that give the same bits on every platform. The C libraries
// differ in the last bit now and then, and world generation must not: the same seed makes the
// same island on Linux and Windows. These give the bits of the 64-bit GNU C library's sinf and
// cosf (which made the worlds of the first builds) for every float angle from -8 to 8, checked
// one by one, which holds every angle world generation draws. Beyond that they may differ from it
// in the last bit near whole quadrants (as that library's own variants for different processors
// do), but never between platforms.
#pragma once

float trig_sinf(float x);
float trig_cosf(float x);
