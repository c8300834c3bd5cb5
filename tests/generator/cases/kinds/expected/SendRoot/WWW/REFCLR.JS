/* The notice for a page that the browser shows from its cache although the
   page was compiled anew: the page template shows the element "cachewarning"
   only in that case, and this script writes into it what happened, a reload
   button and how to empty the cache of the browser in use. Czech texts for
   Czech and Slovak browsers, English texts for all others. */

var gRefClrTexts = {
  en: {
    title: 'This page is out of date',
    text: 'Your browser shows an old copy of this page from its cache. Please load the page again.',
    button: 'Reload the page',
    chrome: 'If that does not help, press Ctrl+F5 (on a Mac Cmd+Shift+R).',
    edge: 'If that does not help, press Ctrl+F5.',
    firefox: 'If that does not help, press Ctrl+Shift+R (on a Mac Cmd+Shift+R).',
    safari: 'If that does not help, press Cmd+Option+E to empty the cache and then Cmd+R.',
    other: 'If that does not help, clear the cache of your browser and load the page again.'
  },
  cs: {
    title: 'Tato str\u00e1nka je zastaral\u00e1',
    text: 'Prohl\u00ed\u017ee\u010d zobrazuje starou kopii t\u00e9to str\u00e1nky ze sv\u00e9 mezipam\u011bti. Na\u010dt\u011bte pros\u00edm str\u00e1nku znovu.',
    button: 'Na\u010d\u00edst str\u00e1nku znovu',
    chrome: 'Pokud to nepom\u016f\u017ee, stiskn\u011bte Ctrl+F5 (na Macu Cmd+Shift+R).',
    edge: 'Pokud to nepom\u016f\u017ee, stiskn\u011bte Ctrl+F5.',
    firefox: 'Pokud to nepom\u016f\u017ee, stiskn\u011bte Ctrl+Shift+R (na Macu Cmd+Shift+R).',
    safari: 'Pokud to nepom\u016f\u017ee, vypr\u00e1zdn\u011bte mezipam\u011b\u0165 kl\u00e1vesami Cmd+Option+E a stiskn\u011bte Cmd+R.',
    other: 'Pokud to nepom\u016f\u017ee, vyma\u017ete mezipam\u011b\u0165 prohl\u00ed\u017ee\u010de a na\u010dt\u011bte str\u00e1nku znovu.'
  }
};

// "cs" for Czech and Slovak, "en" for every other language tag.
function RefClrLanguage(tag) {
  var lang = String(tag || '').toLowerCase().substring(0, 2);
  return lang === 'cs' || lang === 'sk' ? 'cs' : 'en';
}

// The browser family by its user agent text (Edge and Opera name Chrome too).
function RefClrBrowser(agent) {
  var ua = String(agent || '');
  if (/Edg\//.test(ua)) return 'edge';
  if (/Firefox\//.test(ua)) return 'firefox';
  if (/Chrome\//.test(ua) || /OPR\//.test(ua)) return 'chrome';
  if (/Safari\//.test(ua)) return 'safari';
  return 'other';
}

function RefClrReload() {
  window.location.reload(true);
}

function RefClrAppend(doc, parent, tag, text) {
  var element = doc.createElement(tag);
  element.appendChild(doc.createTextNode(text));
  parent.appendChild(element);
  return element;
}

// Fills the element "cachewarning" when the page has one; true when it did.
function ShowCacheWarning(doc, nav) {
  var box = doc.getElementById('cachewarning');
  if (!box) return false;
  var texts = gRefClrTexts[RefClrLanguage(nav.language || nav.userLanguage)];
  while (box.firstChild) box.removeChild(box.firstChild);
  RefClrAppend(doc, box, 'h2', texts.title);
  RefClrAppend(doc, box, 'p', texts.text);
  var button = RefClrAppend(doc, box, 'button', texts.button);
  button.type = 'button';
  button.onclick = RefClrReload;
  RefClrAppend(doc, box, 'p', texts[RefClrBrowser(nav.userAgent)]);
  return true;
}

if (typeof window !== 'undefined' && window.addEventListener) {
  window.addEventListener('load', function () {
    ShowCacheWarning(document, navigator);
  });
}
