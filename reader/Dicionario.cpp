#include "Dicionario.h"
