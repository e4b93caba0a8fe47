#pragma once

// What the program has done before its walks and redraws: Qt has painted (a widget rendered,
// text and fills) and a canvas has been cleared with an image fill. On CPUs where Qt's own AVX
// code leaves the vector state dirty, this is the state the benchmarks must start from.
void paintAndClear();
