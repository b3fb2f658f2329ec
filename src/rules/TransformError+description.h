#pragma once

#include "tokens/TransformError.h"

#include <QString>

// The text a file's validation errors show for a rule's failure.
QString localizedDescription(const TransformError& error);
