<!-- Picture chosen by a string variable: the variable holds the address. -->
<parts>
<part name="img">
	<img title="%%hint?%%" id="INPUT%%element%%" style="%%style%%" />
</part>
</parts>
