// The demo's pages in the browser: a visitor logs in first (the operator may
// not open the service pages); every page shows the values the PLC holds
// from the project's presets, the canvas draws the program's buffer without
// reloading its page, a value changed in the PLC's memory shows within one
// refresh period, no request leaves this machine, and every page is pictured
// into a PNG.
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
  }
  expect('addresses asked', [...hosts].join(' '), '127.0.0.1');
  expect('script errors and alerts', errors.join('; '), '');
});
