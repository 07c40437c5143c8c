// The browser's own find sees only the rows in view, the only ones that exist as elements:
// Ctrl+F and F3 go to the report's search, which sees every row. Esc goes back to the rows.
/* global page, search */

(function (document, page, search) {
  const { query } = page;

  document.addEventListener('keydown', (event) => {
    const findKey = (event.ctrlKey || event.metaKey) && !event.altKey && (event.key === 'f' || event.key === 'F');
    if (findKey) {
      event.preventDefault();
      query.focus();
      query.select();
    } else if (event.key === 'F3' && !event.ctrlKey && !event.metaKey && !event.altKey) {
      event.preventDefault();
      query.focus();
      if (query.value) search.step(event.shiftKey ? -1 : 1);
    }
  });

  query.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      page.viewport.focus({ preventScroll: true });
    }
  });
})(document, page, search);
