#include "items/Item.h"
#include "published/ReaderObjects.h"
