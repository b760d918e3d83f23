#include "image_combination.h"

#include <verodyn/operators.h>

#include "save_rules.h"

bool IsModuloOperation(ImageOperation operation)
{
    return operation == ImageOperation::AddModulo || operation == ImageOperation::SubModulo;
}

OperandMismatch CheckOperands(const OperandFacts* first, const OperandFacts* second)
{
    if (!first || !second)
        return OperandMismatch::Missing;
    if (IsFftKind(first->kind) || IsFftKind(second->kind))
        return OperandMismatch::FftImage;
    if (first->channels != second->channels)
        return OperandMismatch::DifferentTypes;
    if (first->width != second->width || first->height != second->height)
        return OperandMismatch::DifferentSizes;
    return OperandMismatch::None;
}

const char* MismatchMessage(OperandMismatch mismatch)
{
    switch (mismatch) {
    case OperandMismatch::FftImage:
        return "Opérations impossibles sur images FFT !";
    case OperandMismatch::DifferentTypes:
        return "Les images sont de types différents !";
    case OperandMismatch::DifferentSizes:
        return "Les images sont de tailles différentes !";
    default:
        return "";
    }
}

std::vector<uint8_t> CombineGreyModulo(ImageOperation operation, const PlaneBuffers& first,
                                       const PlaneBuffers& second)
{
    const std::size_t n = first.planes[0].size();
    const int sign = operation == ImageOperation::SubModulo ? -1 : 1;
    std::vector<uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const int g1 = GreyLevel(first.planes[0][i], first.planes[1][i], first.planes[2][i]);
        const int g2 = GreyLevel(second.planes[0][i], second.planes[1][i], second.planes[2][i]);
        out[i] = static_cast<uint8_t>(g1 + sign * g2);
    }
    return out;
}

Vstatus CombineInLibrary(ImageOperation operation, const Vobject& first, const Vobject& second,
                         Vobject* out)
{
    switch (operation) {
    case ImageOperation::Add:
        return add_image(first, second, out, 1.0, 0.0);
    case ImageOperation::SubAbsolute: {
        // Each clipped difference keeps the pixels where its first image is
        // the brighter; together they are |a - b|.
        Vobject forward, backward;
        Vstatus status = sub_image(first, second, &forward, 1.0, 0.0);
        if (status == V_OK)
            status = sub_image(second, first, &backward, 1.0, 0.0);
        return status == V_OK ? add_image(forward, backward, out, 1.0, 0.0) : status;
    }
    case ImageOperation::And:
        return bit_and(first, second, out);
    case ImageOperation::Or:
        return bit_or(first, second, out);
    case ImageOperation::Xor:
        return bit_xor(first, second, out);
    case ImageOperation::Multiply:
        return mult_image(first, second, out, 1.0, 0.0);
    case ImageOperation::Divide:
        return div_image(first, second, out, 1.0, 0.0);
    default:
        return VERR_PARAM;
    }
}
