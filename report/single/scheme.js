// Choices kept in the browser, and the colour scheme: automatic (the system's), light or
// dark. Storage may be missing or refuse, as for pages opened from disk in some browsers;
// a choice then lasts as long as the page.

function readSetting(name) {
  try {
    return window.localStorage.getItem('tandemix.' + name);
  } catch (e) {
    return null;
  }
}

function writeSetting(name, value) {
  try {
    window.localStorage.setItem('tandemix.' + name, value);
  } catch (e) {
    // Kept for this page only.
  }
}

const schemeSelect = $('scheme');
const systemDark = window.matchMedia ? window.matchMedia('(prefers-color-scheme: dark)') : null;

function applyScheme() {
  const choice = schemeSelect.value;
  const dark = choice === 'dark' || (choice === 'auto' && systemDark !== null && systemDark.matches);
  document.documentElement.setAttribute('data-scheme', dark ? 'dark' : 'light');
}

function changeScheme() {
  applyScheme();
  drawOverview();
}

const storedScheme = readSetting('scheme');
if (storedScheme === 'light' || storedScheme === 'dark') schemeSelect.value = storedScheme;
applyScheme();
schemeSelect.addEventListener('change', () => {
  writeSetting('scheme', schemeSelect.value);
  changeScheme();
});
if (systemDark && systemDark.addEventListener) systemDark.addEventListener('change', changeScheme);
