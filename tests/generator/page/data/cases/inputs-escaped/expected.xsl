<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();">
										<select title="{{pick}} &quot;one&quot;" class="mono" id="INPUT2" style="position: absolute; top: 16px; left: 8px; width: 48px; z-index: 2; height: 18px; background-color: #FFFFFF; border: none;" value="{INPUT[2]/@VALUE}" name="{INPUT[2]/@NAME}" onchange="SetInputEdited(2, event);" onblur="InputFocused[2]=0">
											<option value="{{1}}">a &lt; b &amp; {c}</option>
											<option value="&quot;2&quot;">'two'</option>
										</select>
										<input type="submit" style="position: absolute; top: 16px; left: 8px; z-index: 3; height: 24px; width: 80px; background-color: #FFFFFF; border: none;" value="Send {{all}} &lt;&amp;&gt; &quot;now&quot;" onclick="gSubmit = 3;" />
									</form>
									<form action="javascript:PostXML1()" style="position: absolute; top: 16px; left: 8px; z-index: 1; font-size: 13px;">
										<input title="Press {{here}} &amp; &lt;now&gt;" id="INPUT1" onfocus="document.getElementById('INPUT1x').style.visibility='visible';SetInputEdited(1, event);" onblur="InputFocused[1]=0" onkeydown="SetInputEdited(1, event);" class="mono" type="text" style="width: 48px; height: 18px; background-color: #FFFFFF; border: none; text-align: right;" name="{INPUT[1]/@NAME}" value="{INPUT[1]/@VALUE}" />
										<input type="submit" style="position: absolute; top: 0px; height: 20px; width: 20px; visibility: hidden;" id="INPUT1x" value="&gt;" />
									</form>
									<form method="post" action="PAGE1.XML" enctype="multipart/form-data" style="position: absolute; top: 16px; left: 8px; z-index: 4;">
										<div style="display:none; height: 24px; overflow: visible; background-color: #FFFFFF;"></div>
										<input class="mono" type="file" onchange="postFileSubmit(this.form,'#000000','Replace {{it}} &amp; &quot;go&quot; \'now\'?')" size="13" style="width: 184px; background-color: #FFFFFF; border: none;" name="__R20_STRING[80]_s" />
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
