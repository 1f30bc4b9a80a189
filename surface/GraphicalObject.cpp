#include "surface/GraphicalObject.h"

GraphicalObject::~GraphicalObject() = default;
