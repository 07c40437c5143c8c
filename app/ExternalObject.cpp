#include "app/ExternalObject.h"

namespace tandemix::app {

QString ExternalObjectScript() {
    // Only the first three characters decide, so "xxy" and "xxyyzz" both answer; NFKC
    // folds full-width letters to their narrow forms.
    return QStringLiteral(R"JS((function () {
  var answers = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string') { return undefined; }
      return name.slice(0, 3).normalize('NFKC') === 'xxy' ? 'Wibble' : undefined;
    }
  });
  try {
    Object.defineProperty(window, 'external',
                          { value: answers, configurable: true, writable: false });
  } catch (e) {}
})();)JS");
}

}  // namespace tandemix::app
