// Combining two images pixel by pixel: the operations offered, the rule that
// says which pairs of images can be combined, and the operations themselves.
#pragma once

#include <cstdint>
#include <vector>

#include <verodyn/object.h>

#include <imageproc/plane_buffers.h>

// In the order of the operation buttons.
enum class ImageOperation {
    Add,         // "&Addition": a + b, clipped
    AddModulo,   // "Addition &modulo 256": grey (g1 + g2) mod 256, one channel
    SubAbsolute, // "&Soustraction absolue": |a - b|
    SubModulo,   // "Soustraction modulo &256": grey (g1 - g2) mod 256, one channel
    And,         // "&ET logique"
    Or,          // "O&U inclusif (OR)"
    Xor,         // "OU e&xclusif (XOR)"
    Multiply,    // "&Multiplication": a x b, clipped
    Divide,      // "&Division": a / b rounded, 0 where b is 0
};
constexpr int kImageOperationCount = 9;

// True for the two operations computed here on grey values, false for those
// of the imaging library.
bool IsModuloOperation(ImageOperation operation);

// What the rule looks at in an operand.
struct OperandFacts {
    int kind = 0;     // the document's kind word
    int channels = 0; // of its image
    int width = 0;
    int height = 0;
};

// Why two operands cannot be combined; the first reason that applies counts.
enum class OperandMismatch { None, Missing, FftImage, DifferentTypes, DifferentSizes };

// An operand is missing (no document), either is an FFT image (kind bit 8
// or 16), the channel counts differ, the sizes differ; else None.
OperandMismatch CheckOperands(const OperandFacts* first, const OperandFacts* second);
// The message shown for a mismatch (UTF-8): empty for None and Missing.
const char* MismatchMessage(OperandMismatch mismatch);

// AddModulo or SubModulo of the grey values of two sets of three planes of
// the same size: per pixel g = GreyLevel(R, G, B), then (g1 + g2) or
// (g1 - g2) modulo 256.
std::vector<uint8_t> CombineGreyModulo(ImageOperation operation, const PlaneBuffers& first,
                                       const PlaneBuffers& second);

// One of the library's operations into `out`, channel by channel: the
// arithmetic ones with factor 1 and offset 0. The library's status, or its
// exception under its check mode.
Vstatus CombineInLibrary(ImageOperation operation, const Vobject& first, const Vobject& second,
                         Vobject* out);
