#include "images/ImageExt.h"
#include "player/PlayerView.h"
