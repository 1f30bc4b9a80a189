#include "surface/DocumentView.h"

DocumentView::~DocumentView() = default;
