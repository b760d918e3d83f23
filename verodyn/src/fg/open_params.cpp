#include "open_params.h"

#include "open_codes.h"
#include "values.h"
#include <fgint/fghelpers.h>

namespace verodyn::fg {

namespace {

Vstatus read_field(const VTuple& value, const FGClass& cls, int32_t* code)
{
    std::string text;
    if (single_text(value, &text) != V_OK)
        return single_int(value, code);
    if (text == "default") {
        *code = cls.field;
        return V_OK;
    }
    return field_code(text, code) ? V_OK : VERR_PARAM;
}

Vstatus read_trigger(const VTuple& value, const FGClass& cls, uint8_t* code)
{
    std::string text;
    if (single_text(value, &text) == V_OK) {
        if (text == "default") {
            *code = cls.external_trigger;
            return V_OK;
        }
        return trigger_code(text, code) ? V_OK : VERR_PARAM;
    }
    int32_t number = 0;
    if (single_int(value, &number) != V_OK || (number != 0 && number != 1))
        return VERR_PARAM;
    *code = uint8_t(number);
    return V_OK;
}

Vstatus read_text(const VTuple& value, char (&field)[FG_TEXT_LEN])
{
    std::string text;
    if (single_text(value, &text) != V_OK)
        return VERR_PARAM;
    return fg_copy_text(field, sizeof field, text.c_str()) ? V_OK : VERR_PARAM;
}

Vstatus read_gain(const VTuple& value, float* gain)
{
    double number = 0;
    if (single_real(value, &number) != V_OK)
        return VERR_PARAM;
    *gain = float(number);
    return V_OK;
}

} // namespace

Vstatus fill_instance(const OpenArgs& a, const FGClass& cls, FGInstance* inst, std::string* detail)
{
    struct Step {
        const char* name;
        Vstatus status;
    };
    const Step steps[] = {
        {"horizontal_resolution",
         single_int(a.horizontal_resolution, &inst->horizontal_resolution)},
        {"vertical_resolution", single_int(a.vertical_resolution, &inst->vertical_resolution)},
        {"image_width", single_int(a.image_width, &inst->image_width)},
        {"image_height", single_int(a.image_height, &inst->image_height)},
        {"start_row", single_int(a.start_row, &inst->start_row)},
        {"start_column", single_int(a.start_column, &inst->start_column)},
        {"field", read_field(a.field, cls, &inst->field)},
        {"bits_per_channel", single_int(a.bits_per_channel, &inst->bits_per_channel)},
        {"color_space", read_text(a.color_space, inst->color_space)},
        {"gain", read_gain(a.gain, &inst->gain)},
        {"external_trigger", read_trigger(a.external_trigger, cls, &inst->external_trigger)},
        {"camera_type", read_text(a.camera_type, inst->camera_type)},
        {"device", read_text(a.device, inst->device)},
        {"port", single_int(a.port, &inst->port)},
        {"line_in", single_int(a.line_in, &inst->line_in)},
    };
    for (const Step& step : steps)
        if (step.status != V_OK) {
            *detail = step.name;
            return step.status;
        }
    return V_OK;
}

} // namespace verodyn::fg
