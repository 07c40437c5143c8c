// The browser's own find sees only the rows in view, the only ones that exist as elements:
// Ctrl+F and F3 go to the report's search, which sees every row. Esc goes back to the rows.

document.addEventListener('keydown', (event) => {
  const findKey = (event.ctrlKey || event.metaKey) && !event.altKey && (event.key === 'f' || event.key === 'F');
  if (findKey) {
    event.preventDefault();
    queryInput.focus();
    queryInput.select();
  } else if (event.key === 'F3' && !event.ctrlKey && !event.metaKey && !event.altKey) {
    event.preventDefault();
    queryInput.focus();
    if (queryInput.value) stepHit(event.shiftKey ? -1 : 1);
  }
});

queryInput.addEventListener('keydown', (event) => {
  if (event.key === 'Escape') {
    event.preventDefault();
    view.focus({ preventScroll: true });
  }
});
