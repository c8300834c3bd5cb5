// The demo's inputs in the browser, as a user works them, each checked in the
// PLC's memory: the global edit fields with the common submit button, an
// edit with its own button, a drop-down list, an image button, a clickable
// rectangle and a two-state image.
import { run, watchedPage, open, waitUntil, expect, valueOf, setValue, inputValue } from './lib.mjs';

// Waits until the variable holds the value.
const memoryHolds = (name, value, ms = 4000) =>
  waitUntil(`${name} = ${value} in the PLC`, async () => (await valueOf(name)) === value || await valueOf(name), ms);

await run(async context => {
  const { page, errors } = await watchedPage(context);
  await open(page, 'SETTINGS.XML');
  await page.waitForFunction(() => typeof PostGlobal == 'function');

  // Global edit fields: typing marks a field edited; the common button, which
  // stands in the page's form with them, posts every edited field and not the
  // own value of the page's other submit button ("Reset counters").
  await setValue('ResetCounters', '0');
  await page.click('#INPUT1', { count: 3 });
  await page.keyboard.type('120');
  const apply = 'input[type=submit][value=Apply]';
  expect('the common button and the global fields in one form',
    await page.$eval(apply, b => b.form !== null && document.getElementById('INPUT1').form === b.form &&
      document.getElementById('INPUT2').form === b.form), true);
  await page.click(apply);
  await memoryHolds('StartLevel', '120');
  expect('the other global field untouched', await valueOf('StopLevel'), '60');
  expect('the other button\'s value not posted', await valueOf('ResetCounters'), '0');

  // A submit button with a value of its own posts it with the edited fields.
  await page.click('#INPUT2', { count: 3 });
  await page.keyboard.type('70');
  await page.click('input[type=submit][value="Reset counters"]');
  await memoryHolds('ResetCounters', '1');
  await memoryHolds('StopLevel', '70');
  await setValue('StopLevel', '60');

  // An edit with its own button: the button shows while the field has the focus.
  await page.click('#INPUT3', { count: 3 });
  expect('own button shown', await page.evaluate(() => document.getElementById('INPUT3x').style.visibility), 'visible');
  await page.keyboard.type('0:05:00.000');
  await page.click('#INPUT3x');
  await memoryHolds('AlternateTime', '0:05:00.000');

  // A drop-down list posts its choice at once.
  await page.select('#INPUT4', '0');
  await memoryHolds('Mode', '0');
  await page.select('#INPUT4', '1');
  await memoryHolds('Mode', '1');

  // An image button and a clickable rectangle post their values.
  await setValue('StartP1Cmd', '0');
  await page.click('#INPUT5');
  await memoryHolds('StartP1Cmd', '1');
  await setValue('AlarmAck', '0');
  await page.click('div[onclick="PostXML6()"]');
  await memoryHolds('AlarmAck', '1');

  // The values come back into the page with its next answer.
  await setValue('StopLevel', '90');
  await waitUntil('the stop level shown', async () => (await inputValue(page, '#INPUT2')) === '90' || await inputValue(page, '#INPUT2'));
  // The global fields are transparent: the answers keep them so, also after an edit.
  const background = id => page.evaluate(i => getComputedStyle(document.getElementById(i)).backgroundColor, id);
  expect('transparent field after the answers', await background('INPUT2'), 'rgba(0, 0, 0, 0)');
  expect('transparent field after its post', await background('INPUT1'), 'rgba(0, 0, 0, 0)');

  // A two-state image switches its bit on a click.
  await open(page, 'OVERVIEW.XML');
  await page.waitForFunction(() => typeof PostXML1 == 'function');
  const before = await valueOf('P1Running');
  await waitUntil('pump 1 picture follows the PLC', async () =>
    (await page.evaluate(() => document.getElementById('INPUT1h').value)) === (before === '1' ? '0' : '1') ||
    await page.evaluate(() => document.getElementById('INPUT1h').value));
  await page.click('#INPUT1');
  await memoryHolds('P1Running', before === '1' ? '0' : '1');
  expect('script errors and alerts', errors.join('; '), '');
});
