#include "mirvo32.h"
