// The colour scheme: automatic (the system's), light or dark, kept in the browser.
/* global page, differences */

(function (document, window, page, differences) {
  const select = page.byId('scheme');
  const systemDark = window.matchMedia ? window.matchMedia('(prefers-color-scheme: dark)') : null;

  function applyScheme() {
    const choice = select.value;
    const dark = choice === 'dark' || (choice === 'auto' && systemDark !== null && systemDark.matches);
    const scheme = dark ? 'dark' : 'light';
    // Setting it restyles the whole page, even to the same value (as each file of a page of
    // two folders does).
    if (document.documentElement.getAttribute('data-scheme') !== scheme) {
      document.documentElement.setAttribute('data-scheme', scheme);
    }
  }

  function changeScheme() {
    applyScheme();
    differences.drawOverview();
  }

  const stored = page.readSetting('scheme');
  if (stored === 'light' || stored === 'dark') select.value = stored;
  applyScheme();
  select.addEventListener('change', () => {
    page.writeSetting('scheme', select.value);
    changeScheme();
  });
  if (systemDark && systemDark.addEventListener) systemDark.addEventListener('change', changeScheme);
})(document, window, page, differences);
