// The tests read the texts the user would see from the English language file.
#include "idioma_ingles.h"
