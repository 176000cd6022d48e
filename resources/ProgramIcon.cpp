#include "ProgramIcon.h"

extern "C" const std::uint8_t velmar_program_icon_start[];
extern "C" const std::uint8_t velmar_program_icon_end[];

std::span<const std::uint8_t> ProgramIconPng()
{
    return { velmar_program_icon_start,
        static_cast<std::size_t>(velmar_program_icon_end - velmar_program_icon_start) };
}
