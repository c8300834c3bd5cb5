// The golden tree of every object kind in the browser: a drawing canvas draws
// the buffer the PLC holds (generator/CanvasBuffer.md) and redraws when it
// changes; an upload field sends a file that lands in the PLC's
// //WWW/UPLOAD/ with its name in the field's variable.
import { writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { run, watchedPage, open, landed, waitUntil, expect, control, valueOf, pictures } from './lib.mjs';

const hex = bytes => bytes.map(b => ('0' + (b & 255).toString(16)).slice(-2)).join('').toUpperCase();
const i16 = v => [v & 255, (v >> 8) & 255];

// A buffer: mark, version, length, then the commands.
function buffer(commands) {
  const body = commands.flat();
  return [0xC5, 1, ...i16(body.length), ...body];
}
const clear = rgb => [0x01, ...rgb];
const fill = (x, y, w, h, rgb) => [0x02, ...i16(x), ...i16(y), ...i16(w), ...i16(h), ...rgb];
const circle = (x, y, r, rgb) => [0x06, ...i16(x), ...i16(y), ...i16(r), 1, ...rgb];

// The colour of a canvas pixel as "r,g,b".
const pixel = (page, x, y) => page.evaluate(([x, y]) => {
  const d = document.getElementById('INPUT1').getContext('2d').getImageData(x, y, 1, 1).data;
  return `${d[0]},${d[1]},${d[2]}`;
}, [x, y]);

await run(async context => {
  const { page, errors } = await watchedPage(context);
  // The canvas buffer (CV.buf) lies at R122.
  await control('memory', 'area=R&address=122&hex=' +
    hex(buffer([clear([255, 255, 255]), fill(10, 10, 50, 30, [255, 0, 0]), circle(150, 60, 20, [0, 0, 255])])));
  await open(page, 'CANVAS.XML');
  await waitUntil('the red rectangle drawn', async () => (await pixel(page, 20, 20)) === '255,0,0' || await pixel(page, 20, 20));
  expect('the blue circle', await pixel(page, 150, 60), '0,0,255');
  expect('the white background', await pixel(page, 100, 100), '255,255,255');
  await page.screenshot({ path: `${pictures}/kinds-CANVAS.png` });
  // A new buffer is drawn with the next answer; a broken one leaves the canvas blank.
  await control('memory', 'area=R&address=122&hex=' + hex(buffer([clear([0, 128, 0])])));
  await waitUntil('the canvas redrawn green', async () => (await pixel(page, 20, 20)) === '0,128,0' || await pixel(page, 20, 20));
  await control('memory', 'area=R&address=122&hex=' + hex([0xC5, 9, 4, 0, 1, 0, 0, 0]));
  await waitUntil('a wrong version leaves the canvas blank', async () =>
    (await page.evaluate(() => document.getElementById('INPUT1').getContext('2d').getImageData(20, 20, 1, 1).data[3])) === 0 ||
    await pixel(page, 20, 20));

  // The upload: choosing a file asks the page's question, then the form goes to the PLC.
  const folder = mkdtempSync(join(tmpdir(), 'upload-'));
  const file = join(folder, 'recipe.csv');
  writeFileSync(file, 'speed;12\ntemp;80\n');
  await open(page, 'UPLOAD.XML');
  let question = '';
  page.once('dialog', d => { question = d.message(); d.accept(); });
  await landed(page, () => page.$('input[type=file]').then(input => input.uploadFile(file)));
  expect('the question asked', question, 'Overwrite {file} & restart?');
  expect('the answer page', new URL(page.url()).pathname, '/UPLOAD.XML');
  expect('the file in the PLC', await control('file?path=' + encodeURIComponent('//WWW/UPLOAD/RECIPE.CSV')),
         'speed;12\ntemp;80\n');
  expect('the file name in its variable', await valueOf('FileName'), 'RECIPE.CSV');
  await page.screenshot({ path: `${pictures}/kinds-UPLOAD.png` });
  expect('script errors', errors.join('; '), '');
});
