// Code protection seen from a read. A protected part gives 0 for every
// protected cell, so the image a read leaves looks like a part full of
// zeros; the configuration words read with it are the only sign of it.
#pragma once

#include <string>
#include <vector>

// The captions (TextosZona) of the areas that the configuration in
// BufDispositivo protects against reading, for the selected PIC18, dsPIC
// or 16C EPROM part; empty when nothing is protected or the part is of
// another family.
std::vector<std::string> AreasProtegidas();

// After a read: when the part is protected, says so in a message and in
// the operation log, naming the areas. Returns whether it did.
bool AvisaProteccion();
