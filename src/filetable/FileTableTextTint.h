// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tint of a file table cell's text; the cell turns it into a table text
// colour, the selected-row variant on selected rows.
enum class FileTableTextTint { normal, dimmed, error, warning };
