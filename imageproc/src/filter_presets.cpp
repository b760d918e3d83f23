#include <imageproc/filter_presets.h>

namespace {

struct NamedFilter {
    const char* name;
    ConvolutionFilter filter;
};

// Rows of the used block, top to bottom; elements not listed are 0. Some
// entries keep what users of the program have always had: the smoothing
// filter 0 divides by 36 (its sum is 16), filters 2 and 3 hold elements
// beyond their block that a larger dimension brings in, the third row of
// filter 7 is -1 2 -1, and filter 13 divides by 24 (its sum is 1).
// clang-format off
// The sharp enhancers are the 3 x 3 high-pass filters under another name.
constexpr ConvolutionFilter kHighPass3x3Cross{3, 1, {
    0, -1, 0, 0, 0, 0, 0,
    -1, 5, -1, 0, 0, 0, 0,
    0, -1, 0}};
constexpr ConvolutionFilter kHighPass3x3Square{3, 1, {
    -1, -1, -1, 0, 0, 0, 0,
    -1, 9, -1, 0, 0, 0, 0,
    -1, -1, -1}};

const NamedFilter kFilters[kFilterCount] = {
    {"Laws feature ext.1 (Débruiteur)", {3, 36, {
        1, 2, 1, 0, 0, 0, 0,
        2, 4, 2, 0, 0, 0, 0,
        1, 2, 1}}},
    {"Laws feature extraction 2", {3, 12, {
        1, 2, 1, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0,
        -1, -2, -1}}},
    {"Laws feature extraction 3", {3, 12, {
        -1, -2, -1, 0, 0, 0, 0,
        2, 4, 2, 0, 0, 0, 0,
        -1, -2, -1, 0, 0, 0, 0,
        0, 0, 0, 4, 0, 0, 0,
        0, 0, 0, -2}}},
    {"Laws feature extraction 4", {3, 12, {
        -1, 0, 1, 0, 0, 0, 0,
        -2, 0, 2, 0, 0, 0, 0,
        -1, 0, 1, 0, 1}}},
    {"Unweighted line detection 1", {3, 6, {
        -1, 2, -1, 0, 0, 0, 0,
        -1, 2, -1, 0, 0, 0, 0,
        -1, 2, -1}}},
    {"Unweighted line detection 2", {3, 6, {
        -1, -1, -1, 0, 0, 0, 0,
        2, 2, 2, 0, 0, 0, 0,
        -1, -1, -1}}},
    {"Weighted line detection 1", {3, 8, {
        -1, 2, -1, 0, 0, 0, 0,
        -2, 4, -2, 0, 0, 0, 0,
        -1, 2, -1}}},
    {"Weighted line detection 2", {3, 8, {
        -1, -2, -1, 0, 0, 0, 0,
        2, 4, 2, 0, 0, 0, 0,
        -1, 2, -1}}},
    {"Low pass 3x3 filter 1", {3, 9, {
        1, 1, 1, 0, 0, 0, 0,
        1, 1, 1, 0, 0, 0, 0,
        1, 1, 1}}},
    {"Low pass 3x3 filter 2", {3, 10, {
        1, 1, 1, 0, 0, 0, 0,
        1, 2, 1, 0, 0, 0, 0,
        1, 1, 1}}},
    {"Low pass 5x5 filter", {5, 25, {
        1, 1, 1, 1, 1, 0, 0,
        1, 1, 1, 1, 1, 0, 0,
        1, 1, 1, 1, 1, 0, 0,
        1, 1, 1, 1, 1, 0, 0,
        1, 1, 1, 1, 1}}},
    {"High pass 3x3 filter 1", kHighPass3x3Cross},
    {"High pass 3x3 filter 2", kHighPass3x3Square},
    {"High pass 5x5 filter", {5, 24, {
        -1, -1, -1, -1, -1, 0, 0,
        -1, -1, -1, -1, -1, 0, 0,
        -1, -1, 25, -1, -1, 0, 0,
        -1, -1, -1, -1, -1, 0, 0,
        -1, -1, -1, -1, -1}}},
    {"Sharp enhancer 3x3 filter 1", kHighPass3x3Cross},
    {"Sharp enhancer 3x3 filter 2", kHighPass3x3Square},
    {"Sharpen gentle", {3, 1, {
        0, 0, 0, 0, 0, 0, 0,
        -1, 3, -1}}},
};
// clang-format on

} // namespace

const char* FilterName(int index) { return kFilters[index].name; }

const ConvolutionFilter& FilterPreset(int index) { return kFilters[index].filter; }
