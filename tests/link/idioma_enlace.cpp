// The tests read the texts the user would see from the English language file
// (the port layer has no wording of its own).
#include "idioma_ingles.h"
