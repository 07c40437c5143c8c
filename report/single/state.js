// The view state: the one object that several parts change. Everything else a part keeps
// is its own and changes only through what the part offers.
/* global page */
/* exported view */

const view = {
  // Rows wrap at the width of the text column; the controls set it.
  wrap: false,
  // Long unchanged stretches are folded away; the controls set it.
  fold: false,
  // Line numbers are shown; the page's data attribute sets it first, then the controls.
  numbers: page.body.getAttribute('data-line-numbers') !== 'no',
  // The font size in points; the controls set it.
  size: 9,
  // How far the text columns are scrolled to the left, in pixels; the scrolling part and
  // the search (to show the current hit) set it.
  scrollX: 0,
  // The offset of the view's top in the contents, in unscaled pixels; the scrolling part
  // sets it.
  top: 0,
  // The current difference (a run of differing rows) by number, or -1; stepping through
  // the differences and a click in the overview set it.
  current: -1,
  // While the page prints, all rows stand in the page's flow and nothing is rendered; the
  // controls set it.
  printing: false,
};
