// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Math {

// Maps `value` from istart...istop onto ostart...ostop, without clamping.
inline double map(double value, double istart, double istop, double ostart, double ostop)
{
    return ostart + (value - istart) / (istop - istart) * (ostop - ostart);
}

} // namespace Math
