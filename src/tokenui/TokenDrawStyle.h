// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a chip is drawn: selected while the editor's selection covers it.
enum class TokenDrawStyle { normal, selected };
