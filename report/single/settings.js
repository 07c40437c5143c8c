// The one-file report's script, in parts that the page joins into one function in this
// order (the list in report/CMakeLists.txt) inside a try whose failure the page shows. The page
// keeps only the rows in view (and a margin) as elements; both sides of a row are one
// element, so they stay level whatever the wrapping does. Texts become text nodes only.

// A line longer than this many characters is shown cut, with a note; the rest stays in
// the data (where search still finds it) and out of the page's elements.
const SHOWN_CHARACTERS = 100000;
// Unchanged rows kept beside a difference when unchanged stretches are hidden; only
// stretches longer than twice this are folded.
const CONTEXT_ROWS = 3;
// Browsers limit an element's height; taller contents scroll through a scaled spacer.
const MAX_SPACER = 8000000;
const MARGIN = 600;
const TAB_SIZE = 4;

const ROW = 0;
const SECTION = 1;
const FOLD = 2;
const MARK_CLASS = ['', 'C', 'A', 'D'];
const CONTROL = /[\x00-\x08\x0a-\x1f\x7f]/;
const CONTROLS = /[\x00-\x08\x0a-\x1f\x7f]/g;

const $ = (id) => document.getElementById(id);
const body = document.body;
const view = $('view');
const spacer = $('spacer');
const overview = $('overview');
const canvas = overview.querySelector('canvas');
const thumb = $('thumb');
const hbar = $('hbar');
const hinner = $('hinner');
const queryInput = $('query');
const currentMark = document.createElement('div');
currentMark.id = 'curmark';
overview.appendChild(currentMark);
