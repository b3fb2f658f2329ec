#pragma once

// How a chip is drawn: selected while the editor's selection covers it.
enum class TokenDrawStyle { normal, selected };
