// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TransformError.h"

#include <QString>

// The text a file's validation errors show for a rule's failure.
QString localizedDescription(const TransformError& error);
