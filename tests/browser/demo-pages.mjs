// The demo's pages in the browser: a visitor logs in first (the operator may
// not open the service pages); every page shows the values the PLC holds
// from the project's presets, the canvas draws the program's buffer without
// reloading its page, a value changed in the PLC's memory shows within one
// refresh period, no request leaves this machine, every page shows each of
// its texts whole (chromium draws the page area's texts in quirks mode at
// 16 px, Firefox at the style sheet's 13 px) and every page is pictured into
// a PNG.
import { run, watchedPage, open, go, login, answers, waitUntil, expect, setValue, pictures, inputValue } from './lib.mjs';

const kPages = ['INDEX', 'OVERVIEW', 'SETTINGS', 'DIAG', 'CANVAS', 'LOGIN', 'LOGOUT'];
const path = page => new URL(page.url()).pathname;

// What each page shows of the presets: [page, what, how it is read, expected].
const value = id => page => inputValue(page, '#' + id);
const picture = id => page => page.evaluate(i => document.getElementById(i).style.backgroundImage, id);
const loaded = selector => page => page.evaluate(s => document.querySelector(s).naturalWidth, selector);
const kPresets = [
  ['OVERVIEW', 'tank level', value('INPUT5'), '182'],
  ['OVERVIEW', 'flow', value('INPUT9'), '38.6'],
  ['OVERVIEW', 'outlet pressure', value('INPUT10'), '2.35'],
  ['OVERVIEW', 'pump 1 running', picture('INPUT1'), 'url("IMAGES/pump_on.png")'],
  ['OVERVIEW', 'pump 2 stopped', picture('INPUT7'), 'url("IMAGES/pump_off.png")'],
  ['OVERVIEW', 'inlet valve open', picture('INPUT8'), 'url("IMAGES/valve_open.gif")'],
  ['OVERVIEW', 'mode automatic', picture('INPUT4'), 'url("IMAGES/mode_auto.jpg")'],
  ['OVERVIEW', 'station state green', page => page.evaluate(() => document.getElementById('INPUT3').style.backgroundColor),
    'rgb(40, 170, 60)'],
  // The level bar: its colour drawn, its length the level (46 %) less its border.
  ['OVERVIEW', 'sump level bar', page => page.evaluate(() => {
    const s = getComputedStyle(document.getElementById('INPUT2'));
    return `${s.backgroundColor} ${s.width}`;
  }), 'rgb(40, 110, 190) 44px'],
  ['SETTINGS', 'start level', value('INPUT1'), '250'],
  ['SETTINGS', 'stop level', value('INPUT2'), '60'],
  ['SETTINGS', 'alternation time', value('INPUT3'), '4:00:00.000'],
  ['SETTINGS', 'mode automatic', value('INPUT4'), '2'],
  ['SETTINGS', 'pump 2 takes turns', picture('INPUT8'), 'url("IMAGES/lamp_on.png")'],
  ['DIAG', 'running hours', value('INPUT2'), '12875'],
  ['DIAG', 'trend picture', loaded('#INPUT1'), 48],
  ['DIAG', 'camera picture', loaded('img[id^=campic]'), 320],
  // The question the upload field asks before every upload, whatever the file.
  ['DIAG', 'upload question', page => page.$eval('input[type=file]', e => e.getAttribute('onchange').split("'")[3]),
    'Send this file to the PLC as its new parameter file?'],
  ['DIAG', 'event log', page => page.frames().some(f => f.url().endsWith('/EVENTS.HTM')) &&
    page.frames().find(f => f.url().endsWith('/EVENTS.HTM')).evaluate(() => document.body.innerText.includes('Pump 1 started')),
    true],
];

// What of a page's texts a visitor cannot read whole: a text that runs into
// a field, a picture or another text, and a field that cuts its own text (an
// edit field's value wider than the field; a drop-down list or a button
// narrower than the browser draws it when it may take the width its options
// or its caption need). An upload field is left to the picture: the width
// the browser gives it of its own is no text's, and the file name it shows
// once a file is chosen may be of any length.
const textFaults = page => page.evaluate(() => {
  const faults = [];
  const shown = e => e.getClientRects().length > 0 && getComputedStyle(e).visibility === 'visible';
  const boxes = [...document.querySelectorAll('input, select, textarea, button, img, canvas, iframe')]
    .filter(e => e.type !== 'hidden' && shown(e));
  const name = e => e.id || e.value || e.getAttribute('src') || e.tagName.toLowerCase();
  const texts = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let node; (node = walker.nextNode());) {
    const parent = node.parentElement;
    if (!node.textContent.trim() || parent.closest('select, button, script, style') || !shown(parent)) continue;
    const range = document.createRange();
    range.selectNodeContents(node);
    texts.push({ text: node.textContent.trim(), box: range.getBoundingClientRect() });
  }
  const overlap = (a, b) => a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5;
  texts.forEach((t, i) => {
    for (const e of boxes) if (overlap(t.box, e.getBoundingClientRect())) faults.push(`"${t.text}" runs into ${name(e)}`);
    for (const u of texts.slice(i + 1)) if (overlap(t.box, u.box)) faults.push(`"${t.text}" runs into "${u.text}"`);
  });
  for (const e of boxes.filter(b => ['INPUT', 'SELECT', 'TEXTAREA', 'BUTTON'].includes(b.tagName) && b.type !== 'file')) {
    if (['text', 'password', 'textarea'].includes(e.type)) {
      if (e.scrollWidth > e.clientWidth) faults.push(`${name(e)} shows "${e.value}" cut`);
      continue;
    }
    const natural = e.cloneNode(true);
    natural.removeAttribute('id');
    natural.style.width = 'auto';
    natural.style.visibility = 'hidden';
    e.after(natural);
    const [needs, has] = [natural.getBoundingClientRect().width, e.getBoundingClientRect().width];
    natural.remove();
    if (needs > has + 0.5) faults.push(`${name(e)} is ${has} px wide, its texts need ${needs} px`);
  }
  return faults;
});

// The colour of a pixel of the schematic's canvas as "r,g,b".
const canvasPixel = (page, x, y) => page.evaluate(([x, y]) => {
  const d = document.getElementById('INPUT1').getContext('2d').getImageData(x, y, 1, 1).data;
  return `${d[0]},${d[1]},${d[2]}`;
}, [x, y]);

await run(async context => {
  const { page, errors } = await watchedPage(context);
  const hosts = new Set();
  page.on('request', r => hosts.add(new URL(r.url()).hostname));

  // Without a login every page leads to the login page; the operator may
  // open the operator's pages but not the service pages.
  await go(page, 'INDEX.XML');
  expect('without a login', path(page), '/LOGIN.XML');
  await login(page, 'operator', 'sump2026');
  expect('the operator lands on', path(page), '/OVERVIEW.XML');
  await go(page, 'SETTINGS.XML');
  expect('the operator opens the settings', path(page), '/SETTINGS.XML');
  await go(page, 'DIAG.XML');
  expect('the diagnostics are the administrator\'s', path(page), '/LOGIN.XML');
  await go(page, 'LOGOUT.XML');
  await login(page, 'admin', 'Station#9');
  expect('the administrator lands on', path(page), '/INDEX.XML');
  expect('title', (await page.title()).trim(), 'Overview');

  for (const [name, what, read, expected] of kPresets) {
    if (path(page) !== `/${name}.XML`) await open(page, name + '.XML');
    await waitUntil(`${name}: ${what}`, async () => (await read(page)) === expected || await read(page), 4000);
  }

  // The schematic draws the program's buffer: the sump, the water, the pump.
  await open(page, 'CANVAS.XML');
  await waitUntil('the water drawn', async () => (await canvasPixel(page, 60, 150)) === '100,160,220' ||
    await canvasPixel(page, 60, 150), 4000);
  expect('the sump wall', await canvasPixel(page, 21, 70), '220,220,220');
  expect('the running dot', await canvasPixel(page, 192, 190), '40,170,60');
  await waitUntil('the pump picture drawn', async () => (await canvasPixel(page, 186, 152)) !== '255,255,255', 4000);
  // It stays on its page while the answers come.
  await page.evaluate(() => { window.stayed = true; });
  const before = await answers('CANVAS.XML');
  await waitUntil('three more answers of the schematic', async () => (await answers('CANVAS.XML')) >= before + 3, 6000);
  expect('the schematic kept its page', await page.evaluate(() => window.stayed === true), true);

  // A new value in memory shows within the page's refresh period (1 s) and the next answer.
  await open(page, 'OVERVIEW.XML');
  await setValue('TankLevel', '321');
  await waitUntil('the new tank level on the page', async () => (await inputValue(page, '#INPUT5')) === '321' || await inputValue(page, '#INPUT5'), 4000);
  for (const name of kPages) {
    const seen = await answers(name + '.XML');
    await open(page, name + '.XML');
    await page.waitForFunction(() => document.readyState === 'complete');
    // The page's script asks again only once it has shown an answer: the
    // second data request means the first answer is on the page.
    if (!['LOGIN', 'LOGOUT', 'INDEX'].includes(name))
      await waitUntil(`an answer of ${name} shown`, async () => (await answers(name + '.XML')) > seen + 2, 5000);
    await page.screenshot({ path: `${pictures}/demo-${name}.png` });
    expect(`${name}: texts that are not whole`, (await textFaults(page)).join('; '), '');
  }
  expect('addresses asked', [...hosts].join(' '), '127.0.0.1');
  expect('script errors and alerts', errors.join('; '), '');
});
