#include <QtGlobal>

// Resources compiled into a static library must be registered by hand; the macro may only
// be used outside any namespace.
void InitKorvidResources() {
  Q_INIT_RESOURCE(icons);
}
