#include "Comand.h"

TComand Comand;
