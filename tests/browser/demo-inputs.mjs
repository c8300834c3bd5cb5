// The demo's inputs in the browser, as a user works them, each checked in the
// PLC's memory: the global edit fields with the common submit button, an
// edit with its own button, a drop-down list, an image button, a clickable
// rectangle and a two-state image, as the operator logged in.
import { run, watchedPage, open, login, waitUntil, expect, valueOf, setValue, inputValue } from './lib.mjs';

// Waits until the variable holds the value.
const memoryHolds = (name, value, ms = 4000) =>
  waitUntil(`${name} = ${value} in the PLC`, async () => (await valueOf(name)) === value || await valueOf(name), ms);

await run(async context => {
  const { page, errors } = await watchedPage(context);
  await login(page, 'operator', 'sump2026');
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

  // A value outside its field's limits (50 .. 400) is not posted, and the
  // user is told so; the other edited field goes with the same press.
  await page.click('#INPUT1', { count: 3 });
  await page.keyboard.type('999');
  await page.click('#INPUT2', { count: 3 });
  await page.keyboard.type('65');
  let told = '';
  page.once('dialog', d => { told = d.message(); d.dismiss(); });
  await page.click(apply);
  await memoryHolds('StopLevel', '65');
  expect('the refusal told', told, 'The value 999 is not within 50 .. 400; it was not sent.');
  expect('the refused value not posted', await valueOf('StartLevel'), '120');
  // Only what the user typed is checked: a value outside the limits that the
  // PLC shows in a field left alone is neither posted nor told about.
  await setValue('StopLevel', '10');
  await waitUntil('the stop level 10 shown', async () =>
    (await inputValue(page, '#INPUT2')) === '10' || await inputValue(page, '#INPUT2'));
  await page.click('#INPUT1', { count: 3 });
  await page.keyboard.type('130');
  await page.click(apply);
  await memoryHolds('StartLevel', '130');
  expect('the field left alone not posted', await valueOf('StopLevel'), '10');
  await setValue('StopLevel', '60');
  // The page's next answer writes the new value into the field, which would
  // end a selection made before it: select once the field shows it.
  await waitUntil('the page shows StopLevel 60', async () => (await inputValue(page, '#INPUT2')) === '60' ||
    await inputValue(page, '#INPUT2'), 4000);

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

  // A two-state image switches its bit on a click: pump 2 leaves the alternation.
  const before = await valueOf('P2Enabled');
  await waitUntil('the switch follows the PLC', async () =>
    (await page.evaluate(() => document.getElementById('INPUT8h').value)) === (before === '1' ? '0' : '1') ||
    await page.evaluate(() => document.getElementById('INPUT8h').value));
  await page.click('#INPUT8');
  await memoryHolds('P2Enabled', before === '1' ? '0' : '1');
  // The pictures of the field's inputs only show them: a click writes nothing.
  await open(page, 'OVERVIEW.XML');
  const running = await valueOf('P1Running');
  await page.click('#INPUT1');
  expect('pump 1\'s picture has no switch', await page.evaluate(() => document.getElementById('INPUT1h')), null);
  expect('the input pump 1 runs is unchanged', await valueOf('P1Running'), running);
  expect('script errors and alerts', errors.join('; '), '');
});
