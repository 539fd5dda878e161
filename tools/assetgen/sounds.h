// The four sound effects.
#pragma once

#include <string>

bool writeSounds(const std::string& outDir);
