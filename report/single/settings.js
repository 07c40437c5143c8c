// The one-file report's script, in parts that the page joins into one function in the
// order of the list in report/CMakeLists.txt, inside a try whose failure the page shows.
// Each part is a closure that takes what it needs from the parts before it and returns what
// it offers. The page keeps only the rows in view (and a margin) as elements; both sides of
// a row are one element, so they stay level whatever the wrapping does. Texts become text
// nodes only.
//
// This part: the fixed measures, the page's elements and the choices kept in the browser.
/* exported page */

const page = (function (document, window) {
  const byId = (id) => document.getElementById(id);
  const overview = byId('overview');
  const currentMark = document.createElement('div');
  currentMark.id = 'curmark';
  overview.appendChild(currentMark);

  // Storage may be missing or refuse, as for pages opened from disk in some browsers; a
  // choice then lasts as long as the page.
  function readSetting(name) {
    try {
      return window.localStorage.getItem('tandemix.' + name);
    } catch {
      return null;
    }
  }

  function writeSetting(name, value) {
    try {
      window.localStorage.setItem('tandemix.' + name, value);
    } catch {
      // Kept for this page only.
    }
  }

  return {
    // A line longer than this many characters is shown cut, with a note; the rest stays in
    // the data (where search still finds it) and out of the page's elements.
    shownCharacters: 100000,
    // Unchanged rows kept beside a difference when unchanged stretches are hidden; only
    // stretches longer than twice this are folded.
    contextRows: 3,
    // Browsers limit an element's height; taller contents scroll through a scaled spacer.
    maxSpacer: 8000000,
    // Rows are made this far above and below the view.
    margin: 600,
    tabSize: 4,

    byId,
    body: document.body,
    viewport: byId('view'),
    spacer: byId('spacer'),
    overview,
    canvas: overview.querySelector('canvas'),
    thumb: byId('thumb'),
    scrollbar: byId('hbar'),
    scrollbarInner: byId('hinner'),
    query: byId('query'),
    currentMark,
    // The page that shows this one in a frame, as the page of two folders shows each file:
    // it takes the steps past the first and the last difference and adds its keys to the
    // help. Null for a page of its own (and for a frame of another origin).
    host: (window.frameElement && window.frameElement.tandemixHost) || null,
    readSetting,
    writeSetting,
  };
})(document, window);
