#pragma once

#include <QString>

// Kilometres shown on the map for 1 km walked up or down an incline of 1 in n (1 up for n across):
// the map shows the horizontal part, cos(atan(1/n)).
double InclineMapDistance(int n);

// The table of inclines 1:1 to 1:10 of the read-me, one line per incline after two heading lines.
QString InclineTable();

// The program's read-me text, lines separated by "\n", at most 72 characters wide.
QString ReadMeText();
