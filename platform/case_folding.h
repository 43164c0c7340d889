// Unicode's simple case folding (CaseFolding.txt, statuses C and S): one
// code point for another, the same on every build, from a table made at
// build time.
#pragma once

// The folded form of a code point; itself when it has none.
char32_t SimpleCaseFold(char32_t codePoint);
